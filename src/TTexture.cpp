// TTexture.cpp
