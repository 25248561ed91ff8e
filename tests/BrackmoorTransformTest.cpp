// BrackmoorTransformTest.cpp
