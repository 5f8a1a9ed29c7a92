#pragma once
// What a tab may ask of the window around it: the shared state, the messages,
// the serial port's start-up, and running one controller operation at a time.
// Tabs talk to each other only through this, MainState and small signals.
#include <functional>
#include <string>

#include "base/prompter.h"
#include "base/status.h"
#include "link/link_context.h"
#include "state/main_state.h"

namespace brindle::app {

class OperationHost {
  public:
    using Operation = std::function<void(link::LinkContext&)>;

    virtual ~OperationHost() = default;

    virtual state::MainState& state() = 0;
    // What every operation shares with the window (closing, the receive
    // window's switch).
    virtual link::SharedSignals& sharedSignals() = 0;
    // The attached line's context (nullptr before a link is attached).
    virtual link::LinkContext* link() = 0;
    virtual base::Prompter& prompter() = 0;
    // Configures and (re)opens the serial port from ConfigRecord and the
    // chosen devices; does nothing
    // until the first controller operation has set StartComm.
    virtual void InitializePort() = 0;
    // Runs one controller operation from a click. Refuses (false) while
    // another runs or when no port is attached.
    virtual bool runOperation(const Operation& operation) = 0;
    virtual bool operationRunning() const = 0;
    // How many operations have started so far: what was read by one is
    // still what the module holds only while no other has run since.
    virtual int operationsStarted() const = 0;
    // The receive timer, once a link is attached (nullptr before).
    virtual link::Pump* pump() = 0;
    // How far a long operation has come as a whole, in the status bar; an
    // empty text shows nothing.
    virtual void showOverallProgress(const std::string& text) = 0;

    // Failures are shown as critical messages once start-up has finished;
    // while the window loads they are skipped.
    void reportFailure(const base::Status& status) {
        if (!status && state().LoadedYet) {
            prompter().show(status.message(), base::Icon::Critical, base::Buttons::Ok);
        }
    }
};

}  // namespace brindle::app
