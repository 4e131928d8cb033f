#pragma once

// The Access-style engine over SQLite: Database (open by path, views) and
// View (find, move, read, edit / add new / update).
#include "database.h"
#include "view.h"
