// The module's entry point lives with the controller; this unit keeps the
// library's link line together until every subsystem has its own units.
namespace corvane {
int moduleVersion() { return 8000; }
}  // namespace corvane
