// The one way a parameter edit is applied. Every front end (the command line's "set", settings
// import, the copy wizard and "copy", the remote page, OSC, an equaliser fit) turns its input
// into ParamEdits and applies them here; the edit buffer's block operations then apply the
// limits, the Master links, the delay rules and the modified flags, and announce the change.
//
//   ApplyParamEdit      one edit to whatever image an edit buffer is bound to
//   ApplyDocumentEdits  edits to the edit buffer of the document's current device (names also
//                       name the stored preset; the routing follows the chains, live included)
//   ApplyImageEdits     edits to any image of a location no document edits (a file copied into)
//   ReadParamCode       the code of a parameter, as "get" prints it and export writes it
#pragma once

#include <span>
#include <string>

#include "document/EditBuffer.h"
#include "document/LocationImage.h"
#include "model/ParamEdit.h"

namespace arvestra {

class CQ7310Doc;

// Applies one edit to the image the buffer is bound to:
//  - a Master flag is set as its button does: turning it on copies the block to the other
//    channel, and the compressor/limiter link fields follow the flags;
//  - a block parameter of a linked block is written on both channels;
//  - a delay time is limited to the largest delay; a distance is turned into samples at the
//    channel's stored temperature; a new temperature keeps the delay's distance;
//  - a code is limited to its field's range; a chain or palette code no block has becomes 0;
//  - the name writes the image's 32 name bytes (Latin-1, cut to 32).
// No routing is derived here: see ApplyDocumentEdits and ApplyImageEdits.
void ApplyParamEdit(EditBuffer& buffer, const ParamEdit& edit);

// True for the parameters the routing is derived from: chain slots, palette entries, pink noise
// selects and the tie fields. After changing one, the sources are derived again.
bool ChangesRouting(const ParamRef& ref);

// Applies one edit to the document's current device: as ApplyParamEdit, except that the name
// names the current preset too (and, online, is sent). False when an exchange failed.
bool ApplyDocumentEdit(CQ7310Doc& doc, const ParamEdit& edit);
// After edits of the document's current device: when one of them names a routing parameter,
// the chains are cleaned and every source is derived again (live, one at a time, as the
// configuration page does). 0 when a wait for the device gave up.
int FinishRoutingEdits(CQ7310Doc& doc, std::span<const ParamEdit> edits);
// ApplyDocumentEdit for each edit in order, then FinishRoutingEdits; announced as one change
// made for `reason`. False as soon as one failed.
bool ApplyDocumentEdits(CQ7310Doc& doc, std::span<const ParamEdit> edits, EditReason reason);

// Applies edits to image 0..8 of the device at `address` of a location that no document edits
// (a Location File being copied into): the same rules, nothing sent. The sources are left as
// the edits state them (a copied configuration carries its own). An edit buffer image that
// changed counts as modified against its stored preset. False when the location has no such
// device or image.
bool ApplyImageEdits(CLocationImage& location, int address, int image,
                     std::span<const ParamEdit> edits, EditReason reason);

// The code of a parameter of an image (the name: 0).
int ReadParamCode(std::span<const uint8_t, kPresetImageSize> image, const ParamRef& ref);
int ReadParamCode(const PresetImageView& view, const ParamRef& ref);
// The same for image 0..8 of the record in `slot`; 0 when there is no such image.
int ReadParamCode(const CLocationImage& location, int slot, int image, const ParamRef& ref);

}  // namespace arvestra
