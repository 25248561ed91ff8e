// TEntityTest.cpp
