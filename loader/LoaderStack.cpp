#include "loader/LoaderStack.h"

#include <utility>

namespace quirn {

std::unique_ptr<CommoHandler> makeLoaderHandler(const LoaderStackSetup& setup, LoaderLink link) {
    return std::make_unique<CommoHandler>(CommsSetup{setup.clock,
                                                     setup.folder,
                                                     setup.timers,
                                                     link.messages,
                                                     link.judge,
                                                     link.errors,
                                                     &setup.database,
                                                     setup.profile,
                                                     std::move(link.serialDevice),
                                                     {},
                                                     setup.leavesFolderAlone});
}

LoaderStack::LoaderStack(const LoaderStackSetup& setup, LoaderLink link)
    : LoaderStack(setup, makeLoaderHandler(setup, std::move(link)), nullptr) {}

LoaderStack::LoaderStack(const LoaderStackSetup& setup, CommoHandler& handler)
    : LoaderStack(setup, nullptr, &handler) {}

LoaderStack::LoaderStack(const LoaderStackSetup& setup, std::unique_ptr<CommoHandler> owned,
                         CommoHandler* handler)
    : clock_(setup.clock),
      timers_(setup.timers),
      settings_(setup.settings),
      database_(setup.database),
      download_(setup.download),
      ownedHandler_(std::move(owned)),
      handler_(handler != nullptr ? *handler : *ownedHandler_),
      port_(handler_),
      readBack_(setup.download, setup.clock) {}

LoaderStack::~LoaderStack() = default;

LoaderServices LoaderStack::services(LoaderPort& port) {
    return LoaderServices{clock_, timers_, port, settings_, database_, download_, readBack_};
}

}  // namespace quirn
