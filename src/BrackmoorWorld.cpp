// BrackmoorWorld.cpp
