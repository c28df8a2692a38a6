#pragma once

#include <QString>

// The program's product version as "major.minor.build".
QString GetVersionString();
