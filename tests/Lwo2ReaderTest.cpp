// Lwo2ReaderTest.cpp
