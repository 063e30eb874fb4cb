// Landing places for a redirected processor exception. Each behaves as a function
// called from the faulting instruction: it reserves the shadow space, brings the stack
// back to 16-byte alignment and calls the function that throws the program's error,
// passing on the exception code the filter left in ecx (its first argument).
// Its unwind information lets the C++ unwinder walk from there into the faulting frame.

    .text

    .globl qs_ProcessorErrorStubRsp8
    .def qs_ProcessorErrorStubRsp8; .scl 2; .type 32; .endef
    .seh_proc qs_ProcessorErrorStubRsp8
qs_ProcessorErrorStubRsp8:           // entered with rsp = 8 (mod 16), as after a call
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    call qs_ThrowProcessorError
    nop
    .seh_endproc

    .globl qs_ProcessorErrorStubRsp0
    .def qs_ProcessorErrorStubRsp0; .scl 2; .type 32; .endef
    .seh_proc qs_ProcessorErrorStubRsp0
qs_ProcessorErrorStubRsp0:           // entered with rsp = 0 (mod 16)
    subq $48, %rsp
    .seh_stackalloc 48
    .seh_endprologue
    call qs_ThrowProcessorError
    nop
    .seh_endproc
