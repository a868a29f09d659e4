#include <zor/XDirScanParameter.h>

#include <zor/XNodeDir.h>

namespace zor {

XDirScanParameter::XDirScanParameter(XDirFileCreator* c) : creator(c != nullptr ? c : &XNodeDir::creatorDirFile) {}

}  // namespace zor
