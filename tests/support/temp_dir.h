#pragma once
// A fresh folder for one test, removed afterwards. path() ends with '/', as
// the data folder does.
#include <string>

namespace brindle::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + name; }

  private:
    std::string m_path;
};

// Whole file as bytes ("" when missing) and writing raw bytes.
std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
// "23 41 06" -> the bytes; spaces ignored.
std::string hexBytes(const std::string& hex);
// The bytes as "23 41 06".
std::string toHex(const std::string& bytes);

}  // namespace brindle::testing
