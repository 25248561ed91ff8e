// BrackmoorVariables.cpp - the engine's globals. Those with constructors are defined here
// together, because C++ orders construction only within one file. Their priorities put them
// before the globals of any other file, such as the program's own entities, so those are built
// after the registry and destroyed before it.
#include "BrackmoorVariables.h"

#include "BrackmoorEngine.h"
#include "BrackmoorFPS.h"
#include "BrackmoorFileSystem.h"
#include "TEntity.h"
#include "TRegistry.h"

#define BRACKMOOR_CONSTRUCTED(order) __attribute__((init_priority(1000 + (order))))

std::string BrackmoorWindowTitle BRACKMOOR_CONSTRUCTED(1) = "Brackmoor engine window";
TEntityRegistryClass TEntityRegistry BRACKMOOR_CONSTRUCTED(2);
TRegistryTextureClass TTextureRegistry BRACKMOOR_CONSTRUCTED(3);
std::ifstream inFile BRACKMOOR_CONSTRUCTED(4);
BrackmoorFPSClass BrackmoorFPS BRACKMOOR_CONSTRUCTED(5);
BrackmoorClass Brackmoor BRACKMOOR_CONSTRUCTED(6);

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
