// TColourTest.cpp
