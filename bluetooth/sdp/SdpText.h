// Rendering of raw service records as text: the whole record as one line per attribute, the text
// of one attribute's value, and the pieces those are made of.
#pragma once

#include "bluetooth/sdp/SdpElement.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvelle {

// One line per attribute, "Name = value\n", in record order. Raises EOrvelleError "Unable to
// enumerate SDP attributes.\n\nError: " + the last-error text when the record is invalid; on any
// error the caller gets no partial text.
std::string SDPRecordToText(std::string_view record);

// The text of attribute ATTRIBUTEID's value (its low 16 bits are used), or the empty text when the
// record lacks it or cannot be parsed. Never raises: the whole record, nested values included, is
// checked before the value is read. The services list asks this for 0x0100, the service name.
std::string SDPAttributeText(std::uint32_t attributeId, std::string_view record);

// The name of a universal attribute id, or "Unknown (id)".
std::string SDPAttributeName(std::uint32_t attributeId);

// Appends ELEMENT's text to OUTPUT.
void SDPElementToText(std::string& output, const TSdpElement& element);

// Appends the texts of the elements of CONTAINER (the whole encoding of a sequence or alternative),
// separated by ", ". Raises EOrvelleError "Error while processing SDP container: " + the result
// code when an element cannot be read.
void SDPContainerToText(std::string& output, std::string_view container);

// The per-attribute step of SDPRecordToText: appends "Name = value\n" to OUTPUT and returns true so
// that the walk goes on. Raises EOrvelleError "Error reading SDP element data.\n\nError: " + the
// last-error text when VALUE is not one valid element.
bool SDPAttributeToText(std::uint32_t attributeId, std::string_view value, std::string& output);

} // namespace orvelle
