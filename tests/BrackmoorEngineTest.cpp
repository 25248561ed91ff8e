// BrackmoorEngineTest.cpp
