// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Heap blocks that travel in a message word. A block belongs to the receiver once its
// message is queued, and stays the sender's (freed here) when the post fails; the
// receiver takes it back into a unique_ptr with TakeOwned. No other code turns a
// message word into a pointer that owns something.

#include "Win32Defs.h"

#include <memory>
#include <utility>

// post(word) queues the message that carries the block; it returns whether it did.
template <typename T, typename PostFunction>
bool PostOwned(std::unique_ptr<T> block, PostFunction&& post)
{
    const WPARAM word = reinterpret_cast<WPARAM>(block.get());
    if (!std::forward<PostFunction>(post)(word))
        return false;
    static_cast<void>(block.release());   // the receiver's now
    return true;
}

// The receiver's side: the block a message word carries, or null for a word of 0.
template <typename T>
std::unique_ptr<T> TakeOwned(WPARAM word)
{
    return std::unique_ptr<T>(reinterpret_cast<typename std::unique_ptr<T>::pointer>(word));
}
