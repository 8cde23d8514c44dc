// The 32-bit compiler calls ___chkstk_ms with a frame larger than a page in
// EAX: each page of the frame is touched from the top down, so every first
// touch lands on the stack's guard page and Windows grows the stack. EAX and
// ECX come back unchanged; the caller then moves ESP itself.
asm(R"(
    .text
    .globl ___chkstk_ms
    .def ___chkstk_ms; .scl 2; .type 32; .endef
___chkstk_ms:
    pushl %ecx
    pushl %eax
    leal 12(%esp), %ecx
1:  cmpl $0x1000, %eax
    jb 2f
    subl $0x1000, %ecx
    orl $0, (%ecx)
    subl $0x1000, %eax
    jmp 1b
2:  subl %eax, %ecx
    orl $0, (%ecx)
    popl %eax
    popl %ecx
    ret
)");
