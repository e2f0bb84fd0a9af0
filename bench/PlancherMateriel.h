#pragma once
// Floor (b): clear, one full-view textured quad, swap.
void TrameMaterielle(unsigned int texture);
