// BrackmoorFileSystemTest.cpp
