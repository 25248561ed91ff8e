// BrackmoorScreenshot.cpp
