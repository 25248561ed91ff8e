// TEntityShapesTest.cpp
