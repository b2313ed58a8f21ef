// Fake dispatcher for the 32-bit entry-routine test: keeps the selector that
// arrived in EAX and the stack pointer as the entry routine left it (the
// caller's return address, then the caller's arguments), and goes on to
// FakeServe with the caller's frame unchanged, so FakeServe returns straight
// to the caller.
    .text
    .globl FakeDispatcher
    .type FakeDispatcher, @function
FakeDispatcher:
    movl %eax, fakeSelector
    movl %esp, fakeStack
    jmp FakeServe

    .section .note.GNU-stack, "", @progbits
