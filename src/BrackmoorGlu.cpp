// BrackmoorGlu.cpp
