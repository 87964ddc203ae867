/* PIC32MX layout for the execution corpus: code and read-only data in
   program flash (kseg0), variables in RAM (kseg1). The .far section stands
   for code that lives further away than a relative branch reaches, such as a
   routine of the interpreter's own firmware. */
OUTPUT_FORMAT("elf32-tradlittlemips")
OUTPUT_ARCH(mips)

MEMORY
{
    kseg0_program_mem (rx)  : ORIGIN = 0x9D000000, LENGTH = 0x80000
    kseg1_data_mem    (w!x) : ORIGIN = 0xA0000000, LENGTH = 0x20000
}

SECTIONS
{
    .text :
    {
        *(.text .text.*)
    } > kseg0_program_mem

    .rodata :
    {
        *(.rodata .rodata.*)
    } > kseg0_program_mem

    /* 256 KB past the start of the code: 65536 words, twice a branch's reach. */
    .far 0x9D040000 :
    {
        *(.far)
    }

    .data :
    {
        *(.data .data.*)
    } > kseg1_data_mem AT > kseg0_program_mem

    .bss :
    {
        *(.bss .bss.* COMMON)
    } > kseg1_data_mem

    /DISCARD/ :
    {
        *(.comment) *(.pdr) *(.gnu.attributes) *(.MIPS.abiflags) *(.reginfo)
        *(.note .note.*) *(.mdebug.*)
    }
}
