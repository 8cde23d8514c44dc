#pragma once
// Class and interface identifiers of the DLL's internal COM classes: the
// event sink and the capture object. Both are created inside the DLL and
// never registered; their dual interfaces add nothing to IDispatch.

#include <objbase.h>

namespace qm {

// {2C3886CA-284A-4065-8148-02BC78D56608}
inline constexpr CLSID CLSID_sinkHTML = {
    0x2C3886CA, 0x284A, 0x4065, {0x81, 0x48, 0x02, 0xBC, 0x78, 0xD5, 0x66, 0x08}};
// {6F5A7ED6-D200-4508-ADAA-083D63C2F493}
inline constexpr IID IID_IsinkHTML = {
    0x6F5A7ED6, 0xD200, 0x4508, {0xAD, 0xAA, 0x08, 0x3D, 0x63, 0xC2, 0xF4, 0x93}};
// {B5336C6D-E24B-4AF3-8E5A-3AFB0A099AFD}
inline constexpr CLSID CLSID_popHTML = {
    0xB5336C6D, 0xE24B, 0x4AF3, {0x8E, 0x5A, 0x3A, 0xFB, 0x0A, 0x09, 0x9A, 0xFD}};
// {9E19903F-560B-4AF7-80A3-68887541424A}
inline constexpr IID IID_IpopHTML = {
    0x9E19903F, 0x560B, 0x4AF7, {0x80, 0xA3, 0x68, 0x88, 0x75, 0x41, 0x42, 0x4A}};
// {E8DA9221-0432-4495-9555-13A1C21FBCED}
inline constexpr IID IID_IpopUI = {
    0xE8DA9221, 0x0432, 0x4495, {0x95, 0x55, 0x13, 0xA1, 0xC2, 0x1F, 0xBC, 0xED}};

struct IsinkHTML : public IDispatch {};
struct IpopHTML : public IDispatch {};
struct IpopUI : public IDispatch {};

}  // namespace qm
