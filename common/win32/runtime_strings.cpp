// The members of std::string and std::wstring, made here with this build's
// code generation: the C++ library's own copies were built for a newer
// processor than ours.
#include <string>

template class std::basic_string<char>;
template class std::basic_string<wchar_t>;
