// RESI01C.so, the resource master program. The export GetController and the
// controller class come from the host layer (host/DLLFunc.cpp is compiled
// into this library); the program registers its form class in
// host::frmRadicalClass here once its window exists.
namespace corvane {
int moduleVersion() { return 8000; }
}  // namespace corvane
