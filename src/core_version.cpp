// The core library's own translation unit: the layers' objects are linked into it.
namespace arvestra {
const char* CoreVersion() { return "0.1.0"; }
}  // namespace arvestra
