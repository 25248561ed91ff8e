// TSprite.cpp
