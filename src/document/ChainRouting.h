// The routing of the current preset, applied to the document: the clean-up of chains and
// palette and the routing update that derives every source node from the chains, sends the new
// sources to a connected device one at a time, and records the two chain lists. The
// configuration page and arvestra-cli both run these, so a script can never leave sources that
// disagree with the chains.
#pragma once

#include "model/RoutingPlan.h"

namespace arvestra {

class CQ7310Doc;
class EditBuffer;

// The routing fields of the current image (of the image an edit buffer is bound to).
RoutingConfig RoutingConfigOf(const CQ7310Doc& doc);
RoutingConfig RoutingConfigOf(const EditBuffer& buffer);

// Sets every repeated or unknown block code of the chain slots, and every palette entry whose
// block the chain (or an earlier entry) already holds, to 0 in the current image.
void CleanChainsAndPalette(CQ7310Doc& doc);
void CleanChainsAndPalette(EditBuffer& buffer);

// Derives the source nodes from the chains, the pink noise selects and the tie; writes them
// block by block, waiting after each until a live device has it (slot 0 of channel A, slot 0 of
// channel B, slot 1 of channel A, ..., then the two outputs); clears the sources of blocks out
// of the chains; records the chain lists. 1 on success; 0 when a wait gave up (the error has
// been reported and the remaining writes are not made).
int UpdateRouting(CQ7310Doc& doc);

// The clean-up, then the routing update; the result of the update.
int ApplyRouting(CQ7310Doc& doc);

}  // namespace arvestra
