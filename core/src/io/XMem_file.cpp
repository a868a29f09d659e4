// XMem's whole-file members: declared with the block in mem, defined here over FileReader's and
// FileWriter's one path each, so that mem stays below io.
#include <zor/XMem.h>

#include <zor/FileReader.h>
#include <zor/FileWriter.h>
#include <zor/Logger.h>
#include <zor/ZorErrorCodes.h>

namespace zor {

namespace {

constexpr const char* kCannotOpen = "XMem::loadFromFile, cannot open file '$' for reading";

}  // namespace

// The flags of FileReader::WholeRead, in order: missingIsDebug, emptyIsError, refuseLongPart,
// addZero, openFailureKeepsErrno.
bool XMem::loadFromFile(const QString& name, std::size_t szPart) {
    logInfo("XMem::loadFromFile, # s:'$', szPart:$", name, static_cast<unsigned long long>(szPart));
    return FileReader::readWholeFile<XMem>(*this, name, szPart, {kCannotOpen, kCannotOpen, false, false, false, false, false});
}

bool XMem::loadFromFileAsString(const QString& name) {
    return FileReader::readWholeFile<XMem>(*this, name, 0, {kCannotOpen, kCannotOpen, false, false, false, true, false});
}

bool XMem::loadMem(const QString& name) {
    return FileReader::readWholeFile<XMem>(*this, name, 0, {kCannotOpen, kCannotOpen, false, true, false, false, true});
}

bool XMem::saveToFile(const QString& name, std::size_t szPart) {
    if (mem() == nullptr || size() == 0) {
        logError("XMem::saveToFile, nothing to save to '$'", name);
        setZorError(ZOR_ERROR_NOT_INITIALIZED);
        return false;
    }
    return FileWriter::writeWholeFile(*this, "XMem", name, mem(), size(), szPart, true);
}

bool XMem::saveMem(const QString& name) {
    if (mem() == nullptr || size() == 0) {
        logError("XMem::saveToFile, nothing to save to '$'", name);
        setZorError(ZOR_ERROR_NOT_INITIALIZED);
        return false;
    }
    return FileWriter::writeWholeFile(*this, "XMem", name, mem(), size(), 0, false);
}

}  // namespace zor
