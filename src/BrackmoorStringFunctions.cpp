// BrackmoorStringFunctions.cpp
