// TSurface.cpp
