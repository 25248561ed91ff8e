// BrackmoorGluTest.cpp
