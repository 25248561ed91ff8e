// Lwo2Reader.cpp
