// BrackmoorDemoTest.cpp
