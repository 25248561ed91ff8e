// TCameraTest.cpp
