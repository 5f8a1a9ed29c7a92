#include "sim/fake_module.h"

#include <algorithm>

#include "sim/line_timing.h"

namespace brindle::sim {

FakeModule::FakeModule(VirtualPump& pump, ModuleOptions options)
    : m_pump(pump), m_model(std::move(options)) {
    scheduleChatter();
}

void FakeModule::startChatter() {
    m_model.startTalking();
    scheduleChatter();
}

void FakeModule::say(const std::string& bytes) {
    emit(Emission{bytes, 0}, m_pump.nowMicros());
}

void FakeModule::fromProgram(const std::string& bytes) {
    for (char c : bytes) {
        for (const Emission& e : m_model.receive(static_cast<uint8_t>(c), m_pump.nowMicros())) {
            emit(e, m_pump.nowMicros() + e.delayMicros);
        }
    }
    scheduleChatter();
}

void FakeModule::emit(const Emission& e, int64_t at) {
    const int64_t step = byteMicros(m_model.options().baud);
    int64_t time = std::max(at, m_lineFreeAt);
    if (step == 0) {
        m_pump.schedule(time, [this, bytes = e.bytes] {
            for (char c : bytes) {
                if (m_toProgram) {
                    m_toProgram(c);
                }
            }
        });
        m_lineFreeAt = time;
        return;
    }
    for (char c : e.bytes) {
        time += step;
        m_pump.schedule(time, [this, c] {
            if (m_toProgram) {
                m_toProgram(c);
            }
        });
    }
    m_lineFreeAt = time;
}

void FakeModule::scheduleChatter() {
    if (m_chatterScheduled || !m_model.talking()) {
        return;
    }
    m_chatterScheduled = true;
    m_pump.schedule(m_pump.nowMicros() + m_model.talkIntervalMicros(), [this] {
        m_chatterScheduled = false;
        if (m_model.talking()) {
            emit(Emission{m_model.chatterLine(), 0}, m_pump.nowMicros());
            scheduleChatter();
        }
    });
}

FakePort::FakePort(VirtualPump& pump, FakeModule& module) : m_pump(pump), m_module(module) {
    m_module.connect([this](char c) {
        if (m_open) {
            m_in += c;
        }
    });
}

void FakePort::setPortOpen(bool open) {
    if (!open) {
        m_open = false;
        m_in.clear();
        m_stuck = 0;
        m_failure.clear();
        return;
    }
    if (m_openFails) {
        m_failure = "cannot be opened";
        return;
    }
    m_open = true;
    m_failure.clear();
    ++m_opens;
}

void FakePort::unplug() {
    fail("device removed");
}

void FakePort::fail(const std::string& reason) {
    m_open = false;
    m_in.clear();
    m_stuck = 0;
    m_failure = reason;
}

std::string FakePort::Input() {
    const std::size_t count =
        m_inputLen <= 0 ? m_in.size() : std::min<std::size_t>(m_in.size(), m_inputLen);
    std::string out = m_in.substr(0, count);
    m_in.erase(0, count);
    return out;
}

void FakePort::Output(const std::string& bytes) {
    m_outputs.push_back(bytes);
    if (!m_open) {
        return;
    }
    if (m_outputStuck) {
        m_stuck += static_cast<int>(bytes.size());
        return;
    }
    const int64_t step = byteMicros(m_baud);
    if (step == 0) {
        m_module.fromProgram(bytes);
        return;
    }
    for (char c : bytes) {
        m_sentUntil = std::max(m_sentUntil, m_pump.nowMicros()) + step;
        ++m_unsent;
        m_pump.schedule(m_sentUntil, [this, c] {
            --m_unsent;
            m_module.fromProgram(std::string(1, c));
        });
    }
}

int FakePort::OutBufferCount() {
    return m_unsent + m_stuck;
}

std::string FakePort::describe() const {
    return "Com" + std::to_string(m_portNumber) + ": " + m_device + (m_open ? " open" : " closed") +
           (m_failure.empty() ? "" : " (" + m_failure + ")");
}

}  // namespace brindle::sim
