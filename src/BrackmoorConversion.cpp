// BrackmoorConversion.cpp
