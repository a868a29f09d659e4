// XByteArray's whole-file members: declared with the array in mem, defined here over FileReader's
// and FileWriter's one path each, so that mem stays below io.
#include <zor/XByteArray.h>

#include <zor/ClockFunctions.h>
#include <zor/FileReader.h>
#include <zor/FileWriter.h>
#include <zor/Logger.h>

namespace zor {

bool XByteArray::saveToFile(const QString& name, std::size_t szPart) {
    logDebug("XByteArray::saveToFile,  '$'  - bytes:$", name, format1000(size()));
    return FileWriter::writeWholeFile(*this, "XByteArray", name, constData(), static_cast<std::size_t>(size()), szPart,
                                      false);
}

bool XByteArray::loadFromFile(const QString& name, std::size_t szPart) {
    // A missing file is a DEBUG line, an empty one an error, a part longer than the file refused.
    return FileReader::readWholeFile(
        *this, name, szPart,
        {"XMem::loadFromFile, cannot open file '$' for reading",
         "XMem::loadFromFile, INTERNAL, cannot open file '$' for reading", true, true, true, false, true});
}

XByteArray XByteArray::load(const QString& name) {
    XByteArray a;
    a.loadFromFile(name);  // a failure leaves the array empty
    return a;
}

}  // namespace zor
