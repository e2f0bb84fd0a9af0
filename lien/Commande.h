#pragma once
// corvella-carte lien: a level file to its link, and a link back to a file.
#include <string>
#include <vector>

// `lien FILE [ADDRESS]` prints the link (ADDRESS defaults to index.html);
// `lien --lire LINK OUT` writes the level the link holds. Exit status 0, or
// 2 with a message on the error output (nothing written).
int CommandeLien(const std::vector<std::string>& arguments);
