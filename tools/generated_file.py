"""The shared entry point of the table generators: write the generated file,
or with --check only say whether the committed one is up to date."""
import argparse


def write_or_check(output, generate):
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true",
                        help="compare with the committed file instead of writing it")
    args = parser.parse_args()
    text = generate()
    if args.check:
        same = output.exists() and output.read_text(encoding="utf-8") == text
        print("up to date" if same else f"{output} differs")
        return 0 if same else 1
    output.write_text(text, encoding="utf-8")
    return 0
