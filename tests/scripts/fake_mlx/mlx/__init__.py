"""Stand-ins for the runtime's MLX packages (mlx.core and mlx_embeddings), just
large enough to drive the model-backed detector of privacy_anonymize.py in
tests: a whitespace tokenizer with offsets and special tokens, and a token
classifier that labels a few capitalized names as persons and words with "@"
as e-mail addresses."""
