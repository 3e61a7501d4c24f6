#pragma once

// The module writes SQL in a SQL Server dialect. This is the one place that
// turns it into what the database engine runs:
//   "$$TABLE"            the company database qualifier: dropped
//   "db..TABLE"          a database-qualified name: the table alone
//   "SELECT TOP n ..."   becomes "SELECT ... LIMIT n" (also in sub-selects)
//   ISNULL( GETDATE() LEN(   become IFNULL( the local date-time LENGTH(
// Quoted texts and identifiers are never touched.

#include <string>
#include <string_view>

namespace corvane::appserver {

std::string translateSqlServerDialect(std::string_view sql);

// Lexical checks of a client WHERE text before it is put inside the
// provider's statement: parentheses balanced and never closing what the
// text did not open, quotes closed, no statement separator and no comment.
// Returns an empty text when acceptable, else the reason.
std::string checkWhereText(std::string_view where);

// An ORDER BY list: comma-separated column names (optionally qualified
// "TABLE.COLUMN"), each optionally followed by ASC or DESC. Returns an
// empty text when acceptable, else the reason.
std::string checkOrderByText(std::string_view orderBy);

// A plain identifier (letters, digits, underscore, not starting with a digit).
bool isIdentifier(std::string_view name);

}  // namespace corvane::appserver
