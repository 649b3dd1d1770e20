// Texts and settings of the mission.
#include "texts.hpp"
