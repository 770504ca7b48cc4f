// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <type_traits>
#include <utility>

// The one boundary for the errors of a command: an error that ends it is shown in the
// default error box there, and nothing is thrown through the event loop.
void runCommand(const std::function<void()> &command);

// command as a slot or queued call that reports its own errors; it takes the signal's
// arguments when it can.
template <typename Command>
auto reportingErrors(Command command)
{
    return [command = std::move(command)](auto &&...args) {
        runCommand([&] {
            if constexpr (std::is_invocable_v<const Command &, decltype(args)...>)
                command(std::forward<decltype(args)>(args)...);
            else
                command();
        });
    };
}
