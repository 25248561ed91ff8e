// BrackmoorStringFunctionsTest.cpp
