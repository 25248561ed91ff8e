// TEntityShapes.cpp
