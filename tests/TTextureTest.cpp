// TTextureTest.cpp
