// BrackmoorFileSystem.cpp
