// BrackmoorConversionTest.cpp
