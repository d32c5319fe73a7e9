#pragma once

#include <string>

// The user's home folder: $HOME, else the account's entry; empty when neither names one.
std::string HomeFolder();
