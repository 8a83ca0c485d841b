// The programs are built without exceptions and without run-time type information, and
// this file stands in for the parts of the C++ runtime that would bring the exception
// machinery back: allocation and the standard library's error paths. No memory left, a
// length beyond what a string can hold, or an index outside its string (the library's
// checks stay on) ends the program at once, as an uncaught exception would; nothing in
// the programs catches any of them.
#include <cstddef>
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) std::abort();
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept { std::abort(); }
}  // namespace std
