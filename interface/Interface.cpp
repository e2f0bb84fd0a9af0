// PLACEHOLDER: the head-up display is being built.
#include "Interface.h"

CInterface::CInterface()
{
}

CInterface::~CInterface()
{
}

void CInterface::LoadInterface()
{
}

void CInterface::DessineInterface(int, int, int, int)
{
}

int CInterface::LargeurBarre(int, int)
{
    return 0;
}
