// The read-back of two macros compiled and stored one after the other, as a
// download leaves them, dumped by the simulated module.
#include <gtest/gtest.h>

#include <string>

#include "download/image_prepare.h"
#include "link/frames.h"
#include "sim/module_model.h"
#include "utilities/dump_reception.h"
#include "utilities/readback_text.h"

using namespace brindle;

namespace {

std::string compiled(const std::string& text, int imageOffset) {
    const bool CancelFlag = false;
    download::ImageResult result = download::buildMacroImage("M", text, imageOffset, CancelFlag);
    EXPECT_TRUE(result.ok()) << result.message();
    return result ? result->bytes : std::string();
}

std::string dumpOf(const std::string& image) {
    sim::ModuleModel module;
    module.eeprom()[3] = 'X';
    for (std::size_t i = 0; i < image.size(); ++i) {
        module.eeprom()[sim::kMacroArea + i] = static_cast<uint8_t>(image[i]);
    }
    std::string reply;
    for (char c : link::dumpFrame()) {
        for (const sim::Emission& emission : module.receive(static_cast<uint8_t>(c))) {
            reply += emission.bytes;
        }
    }
    return reply;
}

}  // namespace

TEST(ReadbackOfADump, showsTheStoredMacrosWithJumpLabels) {
    std::string image = compiled("START:\r\n1 MA 1000\r\nGOTO START\r\nMACRO 2", 0);
    ASSERT_EQ(image.size(), 24u);
    image += compiled("LOOP:\r\n2 MA 50\r\nGOTO END\r\nGOTO LOOP\r\nEND:\r\nMACRO 10", 24);

    utilities::DumpReception reception;
    reception.receive(dumpOf(image));
    EXPECT_EQ(utilities::readbackText(reception.reply()),
              "\r\n0:\r\n"
              "1 MA 1000\r\n"
              "GOTO0\r\n"
              "MACRO 2\r\n"
              "\r\n24:\r\n"
              "2 MA 50\r\n"
              "GOTO46\r\n"
              "GOTO24\r\n"
              "\r\n46:\r\n"
              "MACRO 10\r\n");
}
