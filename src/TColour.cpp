// TColour.cpp
