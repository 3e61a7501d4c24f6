#pragma once

#include "appserver/db/Database.h"

namespace corvane::appserver {

// Creates the schema and loads the demo data when the database is empty
// (no table CV_PROGRAMS yet). Returns true when it did so. The whole set-up
// is one transaction: a half-created database never remains. An existing
// database gets any table added since it was made, empty.
bool ensureSchema(Database& db);

// Fills MPSMB with `count` generated resources (R000001...) in one
// transaction; for benchmarks and load tests.
void addGeneratedResources(Database& db, int count, int firstNumber = 1);

}  // namespace corvane::appserver
