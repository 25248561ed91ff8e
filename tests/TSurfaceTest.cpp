// TSurfaceTest.cpp
