// TCamera.cpp
