#pragma once
// The in-process Macro Module: a ModuleModel driven by a VirtualPump, and a
// Port connected to it. Bytes written to the port reach the module as soon as
// they are sent (they are paced at the module's line speed when it has one);
// the module's answers arrive at the port after its latency, byte by byte at
// its line speed.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/port.h"
#include "sim/module_model.h"
#include "sim/virtual_pump.h"

namespace brindle::sim {

class FakeModule {
  public:
    FakeModule(VirtualPump& pump, ModuleOptions options = {});

    ModuleModel& model() { return m_model; }
    ModuleOptions& options() { return m_model.options(); }
    std::vector<uint8_t>& eeprom() { return m_model.eeprom(); }
    // Every byte the module received.
    const std::string& received() const { return m_model.received(); }
    int writesReceived() const { return m_model.writesReceived(); }
    int readsReceived() const { return m_model.readsReceived(); }

    // Starts talking now, as while a macro runs (until a cancel or CR CR).
    void startChatter();
    // Sends bytes to the program as if the module had said them now.
    void say(const std::string& bytes);

    // The port side: bytes the program sent, and where answers go.
    void fromProgram(const std::string& bytes);
    void connect(std::function<void(char)> toProgram) { m_toProgram = std::move(toProgram); }

  private:
    void emit(const Emission& e, int64_t at);
    void scheduleChatter();

    VirtualPump& m_pump;
    ModuleModel m_model;
    std::function<void(char)> m_toProgram;
    int64_t m_lineFreeAt = 0;  // when the module's transmitter is idle again
    bool m_chatterScheduled = false;
};

class FakePort : public link::Port {
  public:
    FakePort(VirtualPump& pump, FakeModule& module);

    void CommPort(int16_t portNumber) override { m_portNumber = portNumber; }
    void devicePath(const std::string& path) override { m_device = path; }
    void Settings(const std::string& settings) override { m_settings = settings; }
    bool PortOpen() const override { return m_open; }
    void setPortOpen(bool open) override;
    void InputLen(int16_t count) override { m_inputLen = count; }
    std::string Input() override;
    void Output(const std::string& bytes) override;
    int InBufferCount() override { return static_cast<int>(m_in.size()); }
    int OutBufferCount() override;
    std::string failure() const override { return m_failure; }
    void fail(const std::string& reason) override;
    std::string describe() const override;

    // Test controls and records.
    void setOpenFails(bool fails) { m_openFails = fails; }
    // The adapter goes away: the port closes and says why.
    void unplug();
    // Written bytes stay in the output queue for good, as behind a line that
    // no longer takes them; they never reach the module.
    void setOutputStuck(bool stuck) { m_outputStuck = stuck; }
    // Output is paced at this speed (0: leaves at once).
    void setLineSpeed(int32_t baud) { m_baud = baud; }
    int16_t portNumber() const { return m_portNumber; }
    const std::string& device() const { return m_device; }
    const std::string& settings() const { return m_settings; }
    int opens() const { return m_opens; }
    int16_t inputLen() const { return m_inputLen; }
    // Every Output call, in order.
    const std::vector<std::string>& outputs() const { return m_outputs; }

  private:
    VirtualPump& m_pump;
    FakeModule& m_module;
    int16_t m_portNumber = 0;
    std::string m_device;
    std::string m_settings;
    bool m_open = false;
    bool m_openFails = false;
    bool m_outputStuck = false;
    int m_stuck = 0;
    std::string m_failure;
    int m_opens = 0;
    int16_t m_inputLen = 0;
    int32_t m_baud = 0;
    int64_t m_sentUntil = 0;
    int m_unsent = 0;
    std::string m_in;
    std::vector<std::string> m_outputs;
};

}  // namespace brindle::sim
