// BrackmoorVariables.cpp - the engine's globals. Those with constructors are defined here
// together, because C++ orders construction only within one file.
#include "BrackmoorVariables.h"

#include "BrackmoorEngine.h"
#include "BrackmoorFPS.h"
#include "BrackmoorFileSystem.h"
#include "TEntity.h"
#include "TRegistry.h"

std::string BrackmoorWindowTitle = "Brackmoor engine window";
TEntityRegistryClass TEntityRegistry;
TRegistryTextureClass TTextureRegistry;
std::ifstream inFile;
BrackmoorFPSClass BrackmoorFPS;
BrackmoorClass Brackmoor;

GLfloat GLRed = 1.0f, GLGreen = 1.0f, GLBlue = 1.0f, GLAlpha = 1.0f;
std::int32_t BrackmoorWidth = 400;
std::int32_t BrackmoorHeight = 300;
std::int32_t BrackmoorDepth = 32;
short BrackmoorBackfaceCulling = -1;
GLfloat specularity[4];
std::int32_t gNumEntities = 0;
std::int32_t gNumTextures = 0;
std::int32_t gNumSprites = 0;
int OpenGLWindow = 0;
