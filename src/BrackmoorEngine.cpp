// BrackmoorEngine.cpp
