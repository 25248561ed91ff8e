// BrackmoorWorldTest.cpp
